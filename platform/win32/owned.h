// The owner of a system resource (platform/owned.h), and the close of a COM
// object.
#pragma once

#include "platform/owned.h"

namespace platform::win32 {

using platform::Owned;

template <typename Interface>
void ReleaseCom(Interface* object) {
    object->Release();
}

}  // namespace platform::win32
