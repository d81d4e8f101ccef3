#pragma once
// The desktop's short "done" sound: the sound theme's "complete" event, or the
// terminal bell where no sound theme can be reached.
void PlayCompletionSound();
