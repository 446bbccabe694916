#pragma once

#include "app/resourcesource.h"

namespace quantaro::test {

/** Numbers of the ui test module's resources. */
namespace uires {
inline constexpr int kPortrait = 200;
inline constexpr int kLandscape = 201;
inline constexpr int kSquare = 202;
inline constexpr int kSingle = 210;
inline constexpr int kBrokenTemplate = 220;
inline constexpr int kMissingTemplate = 999;
inline constexpr int kMenu = 300;
inline constexpr int kBrokenMenu = 301;
inline constexpr int kMissingMenu = 998;
inline constexpr int kFailureText = 500;
inline constexpr int kSuccessText = 501;

inline constexpr int kTitle = 1001;
inline constexpr int kList = 1002;
inline constexpr int kCombo = 1003;
inline constexpr int kPictureButton = 1004;
inline constexpr int kBanner = 1006;
inline constexpr int kEdit = 1007;
inline constexpr int kPortraitOnly = 1008;
inline constexpr int kSvgButton = 1009;
inline constexpr int kGhost = 1999;

inline constexpr int kCopy = 32774;
inline constexpr int kNormal = 32800;
inline constexpr int kPlaceholder = 32816;
inline constexpr int kAbout = 32772;
inline constexpr int kEnergy = 1410;
} // namespace uires

/** The ui test module's resources, loaded and registered once per process. */
const ResourceSource& uiResources();

} // namespace quantaro::test
