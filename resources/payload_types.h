// The private resource types of the plug-ins an installer carries: one set per
// build of a plug-in. A file of one name may be carried in several sets (the builds
// of one plug-in); within a set each name is carried once. The build reads these
// numbers from here (cmake/payload.cmake), so this is the one place they are set.
#pragma once

#define PAYLOAD_TYPE_X86 3000    // 32-bit (x86) plug-ins, and carried files that are not PE images
#define PAYLOAD_TYPE_X64 3001    // 64-bit (x64) plug-ins
#define PAYLOAD_TYPE_ARM64 3002  // ARM64 plug-ins
