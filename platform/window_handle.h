// An opaque handle to a native window, so core code can name the owner of a
// dialog or message box without seeing the toolkit. The window classes cast it
// back to their own window type. Tested through its users.
#pragma once

using WindowHandle = void*;
