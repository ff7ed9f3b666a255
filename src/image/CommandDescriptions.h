// SPDX-License-Identifier: MIT
// The descriptions the image commands are recorded with; the status bar shows them after
// "Last command : ". Spelling is the program's own and must stay as it is.
#pragma once

namespace img::desc {

inline constexpr const char* kRotateAnyAngle = "Rotate the image by the select angle";
inline constexpr const char* kRotateCounterClockwise =
    "Rotate the image counter-clockwise by 90 degree";
inline constexpr const char* kRotateClockwise = "Rotate the image clockwise by 90 degree";
inline constexpr const char* kBrightness = "Change the image brightness";
inline constexpr const char* kContrast = "Adjust the image constrast";
inline constexpr const char* kIntensity = "Adjust the image intensity";
inline constexpr const char* kGrayscale = "Convert the image to grayscale picture";
inline constexpr const char* kInvert = "Invert the image";
inline constexpr const char* kFlipHorizontal = "Flips the image left to right";
inline constexpr const char* kFlipVertical = "Flips the image top to bottom";
inline constexpr const char* kCrop = "Crop the image to selected rectangle,reducing its size";
inline constexpr const char* kCopyOrMoveRegion =
    "Copy or move selected rectangle region from source position to destination position";
inline constexpr const char* kPaste = "Paste the selected image to clipboard";
// The size dialogs' pending commands.
inline constexpr const char* kResize = "Stretch the image to size specified in pixels";
inline constexpr const char* kScale =
    "Uniformly scale the image's width and height by a percentage";
inline constexpr const char* kStretch =
    "Non-uniformly scale the image's width and/or height by percentages";

// What undo and redo announce.
inline constexpr const char* kUndo = "Undo last action";
inline constexpr const char* kRedo = "Redo last action";

} // namespace img::desc
