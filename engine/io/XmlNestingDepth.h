#pragma once
// How deep TinyXML (2.6.2) would recurse when it parses a text.
//
// TinyXML parses, prints and deletes elements recursively, so a hostile file
// nested a few hundred thousand levels deep overflows the stack. The only
// sound guard is one that reads the text exactly as TinyXML does: a tidier
// XML grammar disagrees with it on malformed input ("<\"", "<1", unquoted or
// entity-laden attribute values, an unknown node ending at the first '>',
// junk after the first top-level node ending the document...) and can then
// be steered into a low answer while the parser still descends. The scan
// below follows TinyXML's own parse step by step (node identification,
// white space and byte-order marks, names, attributes and duplicate
// attributes, entities, UTF-8 steps, the encoding switch made by a leading
// declaration, and where each kind of node ends or fails), without
// recursion and without building anything.
//
// The fuzz target XmlDepthFuzz parses every input with TinyXML on a thread
// with a large stack and checks this answer against the depth of the tree
// TinyXML built.

#include <cstddef>
#include <string_view>

namespace Ostrel {

// The deepest element TinyXML's TiXmlDocument::Parse(text) reaches: 0 for a
// text without elements, 1 for "<a/>" or "<a>x</a>". Elements of a parse
// that fails midway count as far as the parser got (it keeps them). The
// text ends at its first NUL, as it does for the parser.
std::size_t MeasureXmlDepth(std::string_view text);

}  // namespace Ostrel
