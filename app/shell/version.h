#pragma once

// The version shown in the main window's title, the about dialog and the
// crash reports.
inline constexpr char kVeskVersion[] = "1.6.2.0";
