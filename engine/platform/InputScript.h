#pragma once
// Scripted input for automated runs (TAVRIN_INPUT_SCRIPT=FILE). Each line is
// "FRAME WHAT ...", FRAME counting the window system's frames from 1:
//   FRAME key VK down|up            VK: 1..254, or one letter or digit (A, 7)
//   FRAME text CHAR                 a character message (the rest of the line)
//   FRAME mouse move X Y DX DY      cursor at (X, Y), relative motion (DX, DY)
//   FRAME mouse item PLACE          cursor to a named place of the window (a
//                                   tool's panel entry, "Bar|Group|Name"),
//                                   found by the window's item locator
//   FRAME mouse left|right down|up
//   FRAME mouse wheel N             N notches (MouseWheel N * 120)
//   FRAME pad BUTTON down|up        BUTTON: 255..274 or GAMEPAD_A and the like
//   FRAME pad leftstick|rightstick X Y   thumb position, up positive
//   FRAME close                     a window-close request
//   FRAME resize W H                the window resized to a client area of
//                                   W x H (1..16384), as a user dragging its
//                                   frame or a window manager would
//   at MESSAGE                      the frames of the lines after it count
//                                   from the frame at which the core message
//                                   MESSAGE is first sent after the part
//                                   before it started (lines left of that
//                                   part still play at their frames)
// Blank lines and lines starting with '#' are ignored. Keywords are lower
// case. A malformed line is reported with its line number and skipped (its
// control bytes written as \xNN; after 100 reports only a count follows).
// A line longer than kMaxInputScriptLine bytes is reported and skipped; a
// file is read up to kMaxInputScriptBytes, the rest is reported and ignored.
// The window system turns each event into the SDL event (or virtual pad
// state) a real device would produce, so it takes the same path as real input.
// "at" lines tie a part of the script to an event of the game rather than to
// a frame count ("at GameReady": the level is up), so the part plays the
// same wherever the event falls.

#include <string>
#include <string_view>
#include <vector>

namespace Ostrel {

inline constexpr std::size_t kMaxInputScriptLine = 4096;
inline constexpr std::size_t kMaxInputScriptBytes = 4u << 20;

struct ScriptedEvent {
    enum class Kind { Key, Text, MouseMove, MouseItem, MouseButton, MouseWheel, PadButton, PadStick, Close, Drop, Resize };

    long frame = 0;
    Kind kind = Kind::Close;
    int code = 0;  // Key: VK; MouseButton: 1 left, 2 right; PadButton: 255..274; PadStick: 0 left, 1 right
    bool down = false;
    int x = 0;  // MouseMove: cursor; PadStick: thumb; MouseWheel: notches in x; Resize: width, height
    int y = 0;
    int dx = 0;
    int dy = 0;
    std::string text;  // Text: the characters; Drop: the dropped file's path; MouseItem: the place
    int line = 0;
    int part = 0;  // 0 before the first "at" line, then one more after each
};

class InputScript {
public:
    // Parses text; every malformed line adds "<source>:<line>: ..." to errors.
    static InputScript Parse(std::string_view text, const std::string& source,
                             std::vector<std::string>& errors);
    // Reads and parses a file; a file that cannot be read adds one error.
    static InputScript Load(const std::string& path, std::vector<std::string>& errors);

    // Removes and returns the events of frames up to and including frame, in
    // frame order and file order within a frame; a part after an "at" line
    // gives nothing until its message has been sent. The events returned
    // carry the run's frame.
    std::vector<ScriptedEvent> TakeUntil(long frame);
    // The message that starts the next part, or null.
    const std::string* WaitingFor() const;
    // Tells the script that a message was sent during frame: when it is the
    // one waited for, the next part's frames count from there.
    void MessageSent(std::string_view name, long frame);
    bool Empty() const { return m_taken >= m_events.size(); }
    bool UsesPad() const;
    const std::vector<ScriptedEvent>& Events() const { return m_events; }
    // The messages of the "at" lines, in file order.
    const std::vector<std::string>& Anchors() const { return m_anchors; }

private:
    std::vector<ScriptedEvent> m_events;
    std::vector<std::string> m_anchors;
    static constexpr size_t kNoCursor = size_t(-1);
    std::vector<long> m_partStarts{0};  // the frame each started part counts from
    std::vector<size_t> m_cursors;      // per started part: its next event
    size_t m_taken = 0;
};

}  // namespace Ostrel
