#include "RegistryHive.h"

const char* RegistryHiveName(HKEY hive) {
    switch (hive) {
    case HKEY_CLASSES_ROOT:
        return "HKEY_CLASSES_ROOT";
    case HKEY_CURRENT_USER:
        return "HKEY_CURRENT_USER";
    case HKEY_LOCAL_MACHINE:
        return "HKEY_LOCAL_MACHINE";
    case HKEY_USERS:
        return "HKEY_USERS";
    case HKEY_PERFORMANCE_DATA:
        return "HKEY_PERFORMANCE_DATA";
    case HKEY_CURRENT_CONFIG:
        return "HKEY_CURRENT_CONFIG";
    case HKEY_DYN_DATA:
        return "HKEY_DYN_DATA";
    default:
        return "";
    }
}
