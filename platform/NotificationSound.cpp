#include "NotificationSound.h"

#include <cstdio>
#ifdef HAVE_CANBERRA
#include <canberra.h>
#endif

void PlayCompletionSound() {
#ifdef HAVE_CANBERRA
    // One context for the life of the program: the sound plays asynchronously and
    // would be cut off if its context were destroyed right away.
    static ca_context* context = [] {
        ca_context* created = nullptr;
        return ca_context_create(&created) == CA_SUCCESS ? created : nullptr;
    }();
    if (context && ca_context_play(context, 0, CA_PROP_EVENT_ID, "complete", CA_PROP_EVENT_DESCRIPTION,
                                   "Conversion finished", nullptr) == CA_SUCCESS)
        return;
#endif
    std::fputc('\a', stderr);
    std::fflush(stderr);
}
