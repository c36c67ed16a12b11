#include "PicturePlugin.h"

namespace Orvu
{

// Defined here so that the virtual table and both members live in the
// engine, where plugin modules find them.
PicturePlugin::PicturePlugin() {}

PicturePlugin::~PicturePlugin() {}

} // namespace Orvu
