#include "steps/TypedSecret.h"

#include <QByteArray>
#include <string_view>

namespace vrx::steps {

net::Secret TypedSecret(const QString& typed) {
  QByteArray utf8 = typed.toUtf8();
  net::Secret secret(std::string_view(utf8.constData(), std::size_t(utf8.size())));
  net::WipeBytes(utf8.data(), std::size_t(utf8.size()));
  return secret;
}

}  // namespace vrx::steps
