#pragma once

#include <cstdint>

// Result codes, capability bits and flags of the surface service. The values are those of
// the platform interface the drawing layer was first written against, so that recorded
// results read the same everywhere.
namespace patapata::platform {

inline constexpr int32_t DD_OK = 0;
inline constexpr int32_t DDERR_GENERIC = static_cast<int32_t>(0x80004005);
inline constexpr int32_t DDERR_INVALIDPARAMS = static_cast<int32_t>(0x80070057);
inline constexpr int32_t DDERR_OUTOFMEMORY = static_cast<int32_t>(0x8007000E);
inline constexpr int32_t DDERR_INVALIDOBJECT = static_cast<int32_t>(0x88760082);
inline constexpr int32_t DDERR_INVALIDRECT = static_cast<int32_t>(0x88760096);
inline constexpr int32_t DDERR_NOCLIPPERATTACHED = static_cast<int32_t>(0x887600CD);
inline constexpr int32_t DDERR_OUTOFVIDEOMEMORY = static_cast<int32_t>(0x8876017C);
inline constexpr int32_t DDERR_SURFACEBUSY = static_cast<int32_t>(0x887601AE);
inline constexpr int32_t DDERR_SURFACELOST = static_cast<int32_t>(0x887601C2);
inline constexpr int32_t DDERR_NOTLOCKED = static_cast<int32_t>(0x887602E6);
inline constexpr int32_t DDERR_NODIRECTDRAWHW = static_cast<int32_t>(0x887600FF);
inline constexpr int32_t DDERR_UNSUPPORTED = static_cast<int32_t>(0x80004001);

inline constexpr uint32_t DDSCAPS_OFFSCREENPLAIN = 0x40;
inline constexpr uint32_t DDSCAPS_PRIMARYSURFACE = 0x200;
inline constexpr uint32_t DDSCAPS_SYSTEMMEMORY = 0x800;
inline constexpr uint32_t DDSCAPS_3DDEVICE = 0x2000;
inline constexpr uint32_t DDSCAPS_VIDEOMEMORY = 0x4000;

inline constexpr uint32_t DDBLTFAST_SRCCOLORKEY = 0x1;
inline constexpr uint32_t DDBLT_COLORFILL = 0x400;
inline constexpr uint32_t DDBLT_KEYSRC = 0x8000;
inline constexpr uint32_t DDBLT_WAIT = 0x1000000;

}  // namespace patapata::platform
