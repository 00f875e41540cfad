// The desktop components a stored layout of this program may name, with the properties
// the layouts set on them.
#pragma once

void RegisterDesktopClasses();
