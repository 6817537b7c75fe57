#pragma once
// A page stand-in for control tests: a widget with a message port that records what its controls post to it.

#include <QSize>
#include <QVariant>
#include <QWidget>
#include <tuple>
#include <vector>

#include "platform/MessagePort.h"
#include "ui/SkinBase.h"

namespace vrx::test {

struct PageStub {
  QWidget widget;
  std::vector<std::tuple<unsigned, WPARAM, LPARAM>> received;
  MessagePort* port;
  explicit PageStub(QSize size = {860, 640}) {
    port = new MessagePort(&widget, [this](unsigned m, WPARAM w, LPARAM l) { received.emplace_back(m, w, l); });
    widget.setProperty(ui::kPageHandleProperty, QVariant::fromValue(port->handle()));
    widget.resize(size);
  }
};

}  // namespace vrx::test
