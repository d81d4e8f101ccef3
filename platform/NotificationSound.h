#pragma once
// The desktop's short "done" sound: the sound theme's "complete" event, or the
// terminal bell where no sound server can be reached and standard error is a terminal.
void PlayCompletionSound();
// Waits at most `milliseconds` for a sound that is still playing, so a program
// that ends right after it (a background run) does not cut it off.
void WaitForCompletionSound(int milliseconds);
