/* Compiled only when the build is pointed at a real raylib.h: with raylib's records
 * declared first, velmora_records.h skips its own declarations and its layout
 * assertions then hold raylib's records to the layouts velmora's modules use. */
#include VELMORA_RAYLIB_H
#include "velmora_records.h"
