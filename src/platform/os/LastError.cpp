#include "platform/os/LastError.h"

#include <cerrno>
#include <cstring>

std::string GetErrorString(int ErrorNumber)
{
    char buffer[256];
    // the GNU strerror_r returns its text, which need not be in buffer
    const char* text = strerror_r(ErrorNumber, buffer, sizeof buffer);
    if (text == nullptr || *text == '\0')
        return "(GetLastErrorString failed)";
    return text;
}

std::string GetLastErrorString()
{
    return GetErrorString(errno);
}
