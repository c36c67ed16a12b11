#pragma once

// Everything the engine exports.
#include "OrvuExport.h"
#include "Exception.h"
#include "Core.h"
#include "WindowBase.h"
#include "OMath.h"
#include "File.h"
#include "Color.h"
#include "Picture.h"
#include "Graphics.h"
#include "Canvas.h"
#include "PicturePlugin.h"
#include "OPPicManager.h"
#include "Thread.h"
#include "Caller.h"
#include "ContextMenu.h"
#include "Button.h"
