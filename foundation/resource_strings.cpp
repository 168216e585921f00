// Tested by tests/foundation/prompts_test.cpp.
#include "foundation/resource_strings.h"

#include <algorithm>
#include <iterator>

namespace {

struct Entry {
    unsigned id;
    const char* text;
};

// Ascending by id. The socket errors (140 to 182) and the HTTP client's
// errors (184, 269 to 286) are the entries the network client shows.
constexpr Entry kStrings[] = {
    {140, "Interrupted function call"},
    {141, "Permission denied"},
    {142, "Bad address"},
    {143, "Invalid argument"},
    {145, "Resource temporarily unavailable"},
    {146, "Operation now in progress"},
    {147, "Operation already in progress"},
    {148, "Socket operation on non-socket"},
    {149, "Destination address required"},
    {150, "Message too long"},
    {151, "Protocol wrong type for socket"},
    {152, "Bad protocol option"},
    {153, "Protocol not supported"},
    {154, "Socket type not supported"},
    {155, "Operation not supported"},
    {156, "Protocol family not supported"},
    {157, "Address family not supported by protocol family"},
    {158, "Address already in use"},
    {159, "Cannot assign requested address"},
    {160, "Network is down"},
    {161, "Network is unreachable"},
    {162, "Network dropped connection on reset"},
    {163, "Software caused connection abort"},
    {164, "Connection reset by peer"},
    {165, "No buffer space available"},
    {166, "Socket is already connected"},
    {167, "Socket is not connected"},
    {168, "Cannot send after socket shutdown"},
    {169, "Connection timed out"},
    {170, "Connection refused"},
    {171, "Host is down"},
    {172, "No route to host"},
    {173, "Too many processes"},
    {174, "Network subsystem is unavailable"},
    {175, "winsock.dll version out of range"},
    {176, "Successful WSAStartup not yet performed"},
    {177, "Graceful shutdown in progress"},
    {178, "Class type not found"},
    {179, "Host not found"},
    {180, "Nonauthoritative host not found"},
    {181, "This is a nonrecoverable error"},
    {182, "Valid name, no data record of requested type"},
    {183, "Too many open files"},
    {184, "Timed out"},
    {269, "URI specifies a non-supported protocol"},
    {270, "Bad HTTP response header"},
    {271, "Insufficient information in HTTP response header"},
    {272, "Missing redirect location in header"},
    {273, "Failed to initiate redirection HTTP request"},
    {274, "Redirect loop detected"},
    {276, "HTTP request failed"},
    {277, "Maximum number of redirects exceeded"},
    {278, "Unhandled status received from HTTP server"},
    {279, "Unsupported HTTP transfer encoding received from server"},
    {280, "Syntax error in URI"},
    {281, "Failed to open output file"},
    {282, "Bad chunk size"},
    {283, "Failed to write to output file"},
    {285, "HTTP response too large"},
    {286, "Connection closed before the transfer was complete"},
};

}  // namespace

std::string LoadResourceString(unsigned id) {
    auto it = std::lower_bound(std::begin(kStrings), std::end(kStrings), id,
                               [](const Entry& entry, unsigned wanted) { return entry.id < wanted; });
    if (it == std::end(kStrings) || it->id != id) return "";
    return it->text;
}
