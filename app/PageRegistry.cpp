#include "app/PageRegistry.h"

#include <map>

namespace vrx {
namespace {
// Filled and read on the UI thread only.
std::map<int, PageFactory>& factories() {
  static std::map<int, PageFactory> table;
  return table;
}
}  // namespace

void RegisterPage(int pageType, PageFactory factory) { factories()[pageType] = std::move(factory); }

PageFactory FindPageFactory(int pageType) {
  auto it = factories().find(pageType);
  return it == factories().end() ? PageFactory{} : it->second;
}

void ClearPageRegistry() { factories().clear(); }

}  // namespace vrx
