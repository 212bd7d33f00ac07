// The buzzer: plays melodies, tables of notes, on the platform's tone output, one 10 ms buzzer tick at a
// time. The alarm manager plays its alarm and warning melodies; a two-note click sounds when a control is
// pressed. Application thread only: whoever steps the buzzer must not do so while play, click or stop run.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tdx {

class Core;

struct buzzer_note_t {
    uint32_t divisor;   // the note lasts 1300 / divisor further buzzer ticks (integer part)
    uint16_t frequency; // Hz; 0 is a pause (the tone is switched off)
    uint8_t volume;     // percent
};

inline constexpr uint32_t BUZZER_TICK_MS = 10;

// The press click: a low and a high note, played once.
extern const buzzer_note_t sound_click[2];

class Buzzer {
public:
    // Sets up the tone output; the destructor silences it.
    Buzzer();
    ~Buzzer();
    Buzzer(const Buzzer&) = delete;
    Buzzer& operator=(const Buzzer&) = delete;

    // Starts a melody at the next tick; ignored while another one is pending or sounding. The table is not
    // copied: it must outlive the melody.
    void play(const buzzer_note_t* notes, size_t count, bool loop);
    // The press click, ignored likewise while busy.
    void click();
    // Silences the buzzer and drops a melody that has not started yet.
    void stop();
    // Non-zero while a melody is pending or sounding.
    int status() const { return (mActive || mStartPending) ? 1 : 0; }

    // Sounds one note (a pause switches the tone off) and sets its length.
    void playNote(const buzzer_note_t* note);
    // One buzzer tick: starts a pending melody, counts down the current note, moves to the next one.
    void tick();

private:
    bool mActive = false;
    bool mLoop = false;
    bool mStartPending = false;
    const buzzer_note_t* mNotes = nullptr;
    uint32_t mIndex = 0;
    uint32_t mCount = 0;
    uint32_t mTicksLeft = 0;
};

extern Buzzer buzzer;

// One tick of the global buzzer.
void buzzer_tick();

// Steps the global buzzer once for every 10 ms of the platform clock since the previous call; the main loop
// calls it on every pass. The first call only starts the count.
void buzzer_task();

// Makes every control press of the GUI core sound the click (through the core's click hook).
void buzzer_attach_click(Core& core);

} // namespace tdx
