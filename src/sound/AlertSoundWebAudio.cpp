#include "DesktopAlertSound.h"

#include <emscripten.h>

// The browser has no alert sound of its own: a short tone through Web Audio.
// Browsers let a page start its audio only from the player's own input, so
// the context is made (or resumed) at the first key press, when the beeper
// starts; each beep stops the tone before it and starts its own, so every
// wrong key of a burst is heard.

// clang-format off
EM_JS(int, tekkora_audio_open, (), {
    const Context = (typeof AudioContext !== "undefined") ? AudioContext
                  : (typeof webkitAudioContext !== "undefined") ? webkitAudioContext : null;
    if (!Context)
        return 0;
    try {
        if (!Module.tekkoraAudio)
            Module.tekkoraAudio = {context: new Context(), tone: null};
        if (Module.tekkoraAudio.context.state === "suspended")
            Module.tekkoraAudio.context.resume().catch(() => {});
        return 1;
    } catch (e) {
        return 0;
    }
});

EM_JS(int, tekkora_audio_play, (), {
    const audio = Module.tekkoraAudio;
    if (!audio)
        return 0;
    try {
        const context = audio.context;
        if (context.state === "suspended")
            context.resume().catch(() => {});
        if (audio.tone) {
            try { audio.tone.stop(); } catch (e) {}
        }
        // About the length and pitch of the classic "ding": 880 Hz for a
        // tenth of a second, faded at both ends so it does not click.
        const start = context.currentTime;
        const oscillator = context.createOscillator();
        const gain = context.createGain();
        oscillator.type = "triangle";
        oscillator.frequency.value = 880;
        gain.gain.setValueAtTime(0, start);
        gain.gain.linearRampToValueAtTime(0.3, start + 0.005);
        gain.gain.setValueAtTime(0.3, start + 0.09);
        gain.gain.linearRampToValueAtTime(0, start + 0.12);
        oscillator.connect(gain).connect(context.destination);
        oscillator.start(start);
        oscillator.stop(start + 0.12);
        audio.tone = oscillator;
        Module.tekkoraBeeps = (Module.tekkoraBeeps || 0) + 1;
        return 1;
    } catch (e) {
        return 0;
    }
});
// clang-format on

namespace tekkora {

namespace {

class AlertSoundWebAudio final : public AlertSound {
public:
    Outcome open() override { return tekkora_audio_open() ? Outcome::Played : Outcome::Unavailable; }
    Outcome play() override { return tekkora_audio_play() ? Outcome::Played : Outcome::Unavailable; }
    void close() override {}
    bool mayBlock() const override { return false; }
};

} // namespace

std::unique_ptr<AlertSound> makeDesktopAlertSound()
{
    return std::make_unique<AlertSoundWebAudio>();
}

} // namespace tekkora
