#pragma once
// Starts an immediate power-off of the computer (systemctl poweroff), detached
// from this program. Returns false when it could not be started.
bool PowerOffNow();
