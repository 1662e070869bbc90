#include "platform/ui/handlerguard.h"

#include <cxxabi.h>

#include <cstdlib>
#include <exception>
#include <memory>
#include <typeinfo>

#include "platform/ui/dialog.h"
#include "platform/ui/messagebox.h"

namespace platform {

namespace {

void ShowTextAlone(const std::string&, const std::string& text) {
  MessageBoxRequest box;
  box.caption = ApplicationTitle();
  box.text = text;
  box.icon = MessageIcon::Error;
  Dialogs().ShowBox(box);
}

UnexpectedErrorHandler& Handler() {
  static UnexpectedErrorHandler handler = ShowTextAlone;
  return handler;
}

std::string Demangled(const std::type_info& type) {
  int status = 0;
  const std::unique_ptr<char, decltype(&std::free)> name(
      abi::__cxa_demangle(type.name(), nullptr, nullptr, &status), &std::free);
  return status == 0 && name ? std::string(name.get()) : std::string(type.name());
}

}  // namespace

void SetUnexpectedErrorHandler(UnexpectedErrorHandler handler) {
  Handler() = handler ? std::move(handler) : ShowTextAlone;
}

bool RunGuarded(const std::function<void()>& handler) {
  if (!handler) return true;
  try {
    handler();
    return true;
  } catch (const std::exception& error) {
    Handler()(Demangled(typeid(error)), error.what());
  } catch (...) {
    const std::type_info* type = abi::__cxa_current_exception_type();
    Handler()(type != nullptr ? Demangled(*type) : "unknown", "unknown error");
  }
  return false;
}

}  // namespace platform
