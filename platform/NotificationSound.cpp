#include "NotificationSound.h"

#include <QDir>
#include <QFileInfo>
#include <cstdio>
#ifdef HAVE_CANBERRA
#include <canberra.h>
#endif

void PlayCompletionSound() {
#ifdef HAVE_CANBERRA
    // Without a sound server in the session (a server, a background run over SSH)
    // the sound library falls back to probing sound cards and fills the terminal
    // with their errors.
    static const bool hasSoundServer = [] {
        const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
        return qEnvironmentVariableIsSet("PULSE_SERVER") ||
               (!runtime.isEmpty() && (QFileInfo::exists(runtime + QStringLiteral("/pulse/native")) ||
                                       QFileInfo::exists(runtime + QStringLiteral("/pipewire-0"))));
    }();
    // One context for the life of the program: the sound plays asynchronously and
    // would be cut off if its context were destroyed right away.
    static ca_context* context = hasSoundServer ? [] {
        ca_context* created = nullptr;
        return ca_context_create(&created) == CA_SUCCESS ? created : nullptr;
    }() : nullptr;
    if (hasSoundServer && context && ca_context_play(context, 0, CA_PROP_EVENT_ID, "complete", CA_PROP_EVENT_DESCRIPTION,
                                   "Conversion finished", nullptr) == CA_SUCCESS)
        return;
#endif
    std::fputc('\a', stderr);
    std::fflush(stderr);
}
