// native_path.h -- a Windows path in UTF-16 as the UTF-8 name Linux knows it by, as every file
// call of the Linux stand-ins takes it (backslashes become slashes).
#ifndef ZK_PLATFORM_LINUX_NATIVE_PATH_H
#define ZK_PLATFORM_LINUX_NATIVE_PATH_H

#include <string>

#include "platform/platform.h"

namespace win {

// Empty when the path is null or does not convert.
std::string LinuxPathW(const WCHAR *path);

}  // namespace win

#endif  // ZK_PLATFORM_LINUX_NATIVE_PATH_H
