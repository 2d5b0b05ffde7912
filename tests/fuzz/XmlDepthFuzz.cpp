// Fuzz target: the nesting guard against TinyXML itself. Every input is
// parsed by TinyXML with no depth limit on a thread whose stack is sized for
// the deepest nesting the input could hold, and the depth of the tree it
// built (counted without recursion) must equal MeasureXmlDepth's answer. Any
// disagreement, in either direction, aborts: a guard that answers low is a
// stack overflow waiting for a deeper file, one that answers high refuses a
// file the parser reads.

#include "engine/io/XmlNestingDepth.h"
#include "tests/fuzz/XmlTreeDepth.h"

#include <tinyxml.h>

#include <pthread.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

struct ParseJob {
    const char* text = nullptr;
    std::size_t depth = 0;
};

void* ParseUnguarded(void* argument) {
    auto* job = static_cast<ParseJob*>(argument);
    TiXmlDocument document;  // parsed, measured and destroyed on this stack
    document.Parse(job->text);
    job->depth = Ostrel::Fuzz::XmlTreeDepth(document);
    return nullptr;
}

std::size_t ParseOnLargeStack(const char* text, std::size_t length) {
    // Each level costs TinyXML a few hundred bytes of stack while parsing
    // and while deleting; one element needs at least three bytes ("<a>").
    const std::size_t stack = (std::size_t(16) << 20) + length * 1024;
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setstacksize(&attributes, stack);
    ParseJob job{text, 0};
    pthread_t thread;
    if (pthread_create(&thread, &attributes, ParseUnguarded, &job) != 0) std::abort();
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attributes);
    return job.depth;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The text ends at its first NUL; the padding stands in for the parse
    // copy the engine makes (TinyXML may step a few bytes past the end).
    std::string text(reinterpret_cast<const char*>(data), size);
    text.resize(text.find('\0') == std::string::npos ? text.size() : text.find('\0'));
    const std::size_t length = text.size();
    text.append(64, '\0');
    const std::size_t guard = Ostrel::MeasureXmlDepth(text);
    const std::size_t parsed = ParseOnLargeStack(text.c_str(), length);
    if (guard != parsed) {
        std::fprintf(stderr, "nesting guard says %zu, TinyXML built %zu levels\n", guard, parsed);
        std::abort();
    }
    return 0;
}
