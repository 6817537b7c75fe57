#pragma once
// A password as a person typed it (an edit field's QString), held from then on as a net::Secret: its UTF-8
// bytes are copied once into the secret and the copy made on the way is overwritten. What the field itself
// keeps is the field's.
#include <QString>

#include "net/Secret.h"

namespace vrx::steps {

net::Secret TypedSecret(const QString& typed);

}  // namespace vrx::steps
