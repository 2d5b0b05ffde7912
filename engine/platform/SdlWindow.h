#pragma once
// The one SDL window of the process, as an RAII handle, with the few
// operations the window system needs: place it (position and client size),
// switch its frame on or off, show it. Full screen is a borderless window at
// (0, 0) with the screen size, which works without a window manager (a bare
// X server, the offscreen driver).
//
// A framed window can be resized by its user; a borderless one cannot.
//
// The window is created for OpenGL (3.3 core attributes set) so the render
// device can make its context on it; a video driver without OpenGL (SDL's
// "dummy") gets a plain window instead.

#include <memory>
#include <string>

namespace Ostrel {

class SdlWindow {
public:
    // Starts SDL video (and events) for the lifetime of the returned object.
    // Null after logging why when SDL cannot start.
    class Video;
    static std::unique_ptr<Video> StartVideo();

    // A hidden window with the given client size (a size below 1 becomes 1,
    // SDL's smallest). Null when SDL refuses it: SDL's reason goes to error
    // when one is given (the caller logs it), otherwise to the log.
    static std::unique_ptr<SdlWindow> Create(const std::string& title, int x, int y, int width, int height,
                                             bool bordered, std::string* error = nullptr);
    ~SdlWindow();
    SdlWindow(const SdlWindow&) = delete;
    SdlWindow& operator=(const SdlWindow&) = delete;

    void SetBordered(bool bordered);
    bool IsBordered() const { return m_bordered; }
    // Moves the window to (x, y), sets its client size and shows it.
    void Place(int x, int y, int width, int height);
    void Show();

    // The SDL_Window*, as the opaque handle of DeviceParams.
    void* Handle() const { return m_window; }
    unsigned Id() const;
    void GetPosition(int& x, int& y) const;
    void GetSize(int& width, int& height) const;

private:
    explicit SdlWindow(void* window, bool bordered) : m_window(window), m_bordered(bordered) {}

    void* m_window;
    bool m_bordered;
};

class SdlWindow::Video {
public:
    Video() = default;
    ~Video();
    Video(const Video&) = delete;
    Video& operator=(const Video&) = delete;

    // The primary display's size (1024 x 768 when SDL cannot tell).
    void GetScreenSize(int& width, int& height) const;
};

}  // namespace Ostrel
