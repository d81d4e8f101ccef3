#include "NotificationSound.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QThread>
#include <atomic>
#include <cstdio>
#include <unistd.h>
#ifdef HAVE_CANBERRA
#include <canberra.h>
#endif

namespace {

std::atomic<bool> SoundPlaying{false};

#ifdef HAVE_CANBERRA
// Without a sound server in the session (a server, a background run over SSH) the
// sound library falls back to probing sound cards and fills the terminal with errors.
bool HasSoundServer() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return qEnvironmentVariableIsSet("PULSE_SERVER") ||
           (!runtime.isEmpty() && (QFileInfo::exists(runtime + QStringLiteral("/pulse/native")) ||
                                   QFileInfo::exists(runtime + QStringLiteral("/pipewire-0"))));
}

// One context for the life of the program: the sound plays asynchronously and would
// be cut off if its context were destroyed right away.
ca_context* SoundContext() {
    static ca_context* context = [] {
        ca_context* created = nullptr;
        return HasSoundServer() && ca_context_create(&created) == CA_SUCCESS ? created : nullptr;
    }();
    return context;
}

void SoundFinished(ca_context*, uint32_t, int, void*) {
    SoundPlaying = false;
}
#endif

} // namespace

void PlayCompletionSound() {
#ifdef HAVE_CANBERRA
    if (ca_context* context = SoundContext()) {
        ca_proplist* properties = nullptr;
        if (ca_proplist_create(&properties) == CA_SUCCESS) {
            ca_proplist_sets(properties, CA_PROP_EVENT_ID, "complete");
            ca_proplist_sets(properties, CA_PROP_EVENT_DESCRIPTION, "Conversion finished");
            SoundPlaying = true;
            const bool started =
                ca_context_play_full(context, 0, properties, SoundFinished, nullptr) == CA_SUCCESS;
            ca_proplist_destroy(properties);
            if (started) return;
            SoundPlaying = false;
        }
    }
#endif
    // The bell is for someone at a terminal; in a log or a pipe it is a stray byte.
    if (!::isatty(STDERR_FILENO)) return;
    std::fputc('\a', stderr);
    std::fflush(stderr);
}

void WaitForCompletionSound(int milliseconds) {
    const QDeadlineTimer deadline(milliseconds);
    while (SoundPlaying && !deadline.hasExpired())
        QThread::msleep(20);
}
