#pragma once
// Administrator here means the effective user id 0.
bool IsAdministrator();
