// The Process Manager subset.
#pragma once

// Ends the program at once with exit status 0.
[[noreturn]] void ExitToShell();
