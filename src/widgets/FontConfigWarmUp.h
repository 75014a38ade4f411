#pragma once

// Loading fontconfig's configuration (parsing its XML files, reading the
// font caches) is the largest single piece of start-up, and it needs no
// display. Started first thing in main(), it runs on a second core while
// QApplication connects to the display; wait() before the first font is
// used, so Qt finds the configuration ready instead of loading it itself.
//
// Where the system has no fontconfig (Windows, macOS) it does nothing.

#include <thread>

namespace tekkora {

class FontConfigWarmUp {
public:
    FontConfigWarmUp();
    ~FontConfigWarmUp();
    FontConfigWarmUp(const FontConfigWarmUp &) = delete;
    FontConfigWarmUp &operator=(const FontConfigWarmUp &) = delete;

    // Returns once the configuration is loaded (or at once if there is none
    // to load). Safe to call more than once.
    void wait();

    // Whether there was a configuration to load and a thread to load it on.
    bool started() const { return started_; }

private:
    std::thread loader_;
    bool started_ = false;
};

} // namespace tekkora
