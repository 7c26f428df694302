#pragma once

// Name, version, build number and build time: the caption of the main window
// and what --version prints.
inline constexpr const char kVersionText[] = "Quorvel 01.60.00 309220 2017-11-17-11:39:51";
