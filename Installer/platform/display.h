#pragma once

namespace Platform {

// Lets the application object start without a display server when none is
// there, by choosing the windowless platform; a display that is there, or a
// platform chosen by the caller, is kept.
void allowRunningWithoutDisplay();

} // namespace Platform
