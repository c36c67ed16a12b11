#pragma once

// Marks everything the engine exports. CMake defines OrvuEngine_EXPORTS only
// while it builds the engine DLL itself; every user of the engine imports.
// Host builds (the platform-free parts compiled natively for sanitizers and
// fuzzing) have no DLL boundary at all.
#if !defined(_WIN32)
#define ORVU_API
#elif defined(OrvuEngine_EXPORTS)
#define ORVU_API __declspec(dllexport)
#else
#define ORVU_API __declspec(dllimport)
#endif
