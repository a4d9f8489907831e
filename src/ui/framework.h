#pragma once

namespace kivo::ui {

// Once per process, before the first window: registers the common control
// classes (version 6 through the manifest) the windows are built from.
void initialise_framework();

}  // namespace kivo::ui
