#pragma once

// Everything the engine exports.
#include "OrvuExport.h"
#include "Exception.h"
#include "Core.h"
#include "OMath.h"
#include "Thread.h"
