#include "UserRights.h"

#include <unistd.h>

bool IsAdministrator() {
    return ::geteuid() == 0;
}
