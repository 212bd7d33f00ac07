#include "SourceApp/drivers/buzzer.h"

#include "Libraries/base/os.h"
#include "SourceApp/gui/core/Core.h"
#include "SourceHost/api_lib/devices.h"

namespace tdx {

const buzzer_note_t sound_click[2] = {{250, 196, 100}, {200, 3951, 100}};

Buzzer buzzer;

Buzzer::Buzzer() {
    buzzer_platform_init();
}

Buzzer::~Buzzer() {
    mActive = false;
    buzzer_platform_stop();
}

void Buzzer::play(const buzzer_note_t* notes, size_t notes_size, bool loop) {
    OS_ASSERT(notes && notes_size);
    if (mActive || mStartPending) {
        return;
    }
    mNotes = notes;
    mCount = static_cast<uint32_t>(notes_size);
    mLoop = loop;
    mIndex = 0;
    mStartPending = true;
}

void Buzzer::click() {
    play(sound_click, sizeof sound_click / sizeof sound_click[0], false);
}

void Buzzer::stop() {
    mActive = false;
    // Otherwise an alarm added and removed between two ticks would still start its looped melody, for ever.
    mStartPending = false;
    buzzer_platform_stop();
}

void Buzzer::playNote(const buzzer_note_t* note) {
    OS_ASSERT(note != nullptr && note->divisor != 0);
    mActive = true;
    if (note->frequency != 0) {
        buzzer_platform_play(note->frequency, note->volume);
    } else {
        buzzer_platform_stop();
    }
    mTicksLeft = 1300 / note->divisor;
}

void Buzzer::tick() {
    if (mStartPending) {
        mStartPending = false;
        playNote(&mNotes[0]);
        return;
    }
    if (!mActive) {
        return;
    }
    if (mTicksLeft != 0) {
        --mTicksLeft;
        return;
    }
    if (++mIndex >= mCount) {
        if (!mLoop) {
            mActive = false;
            buzzer_platform_stop();
            return;
        }
        mIndex = 0;
    }
    playNote(&mNotes[mIndex]);
}

void buzzer_tick() {
    buzzer.tick();
}

void buzzer_task() {
    // A loop held up for longer than this drops the backlog rather than racing through a melody.
    constexpr uint64_t MAX_STEPS = 100;
    static bool sCounting = false;
    static uint64_t sLast = 0;
    const uint64_t now = timer();
    if (!sCounting) {
        sCounting = true;
        sLast = now;
        return;
    }
    const uint64_t steps = (now - sLast) / BUZZER_TICK_MS;
    sLast += steps * BUZZER_TICK_MS;
    for (uint64_t i = 0; i < steps && i < MAX_STEPS; ++i) {
        buzzer.tick();
    }
}

void buzzer_attach_click(Core& core) {
    CoreHooks hooks = core.getHooks();
    hooks.click = [] { buzzer.click(); };
    core.setHooks(std::move(hooks));
}

} // namespace tdx
