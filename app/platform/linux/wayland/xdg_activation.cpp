#include "platform/linux/wayland/xdg_activation.hpp"

#include <wayland-client.h>

#include <qpa/qplatformnativeinterface.h>
#include <QGuiApplication>
#include <cstring>

#include "xdg-activation-v1-client-protocol.h"

namespace jolstrand {
namespace {

// A compositor answers a token's commit at once; a few round trips are plenty.
constexpr int roundTrips = 3;

struct Request {
  xdg_activation_v1* activation = nullptr;
  std::string token;
  bool done = false;
};

void globalAdded(void* data, wl_registry* registry, uint32_t name, const char* interface,
                 uint32_t /*version*/) {
  auto* request = static_cast<Request*>(data);
  if (request->activation == nullptr &&
      std::strcmp(interface, xdg_activation_v1_interface.name) == 0) {
    request->activation = static_cast<xdg_activation_v1*>(
        wl_registry_bind(registry, name, &xdg_activation_v1_interface, 1));
  }
}

void globalRemoved(void* /*data*/, wl_registry* /*registry*/, uint32_t /*name*/) {}

constexpr wl_registry_listener registryListener = {globalAdded, globalRemoved};

void tokenDone(void* data, xdg_activation_token_v1* /*token*/, const char* text) {
  auto* request = static_cast<Request*>(data);
  request->token = text;
  request->done = true;
}

constexpr xdg_activation_token_v1_listener tokenListener = {tokenDone};

}  // namespace

std::string xdgActivationToken(QWindow& focused, const std::string& appId) {
  QPlatformNativeInterface* native = QGuiApplication::platformNativeInterface();
  if (native == nullptr) return {};
  auto* display = static_cast<wl_display*>(native->nativeResourceForIntegration("wl_display"));
  if (display == nullptr) return {};
  auto* seat = static_cast<wl_seat*>(native->nativeResourceForIntegration("wl_seat"));
  const auto serial = static_cast<uint32_t>(
      reinterpret_cast<quintptr>(native->nativeResourceForIntegration("serial")));
  auto* surface = static_cast<wl_surface*>(native->nativeResourceForWindow("surface", &focused));

  wl_event_queue* queue = wl_display_create_queue(display);
  auto* ownDisplay = static_cast<wl_display*>(wl_proxy_create_wrapper(display));
  wl_proxy_set_queue(reinterpret_cast<wl_proxy*>(ownDisplay), queue);
  Request request;
  wl_registry* registry = wl_display_get_registry(ownDisplay);
  wl_registry_add_listener(registry, &registryListener, &request);
  wl_display_roundtrip_queue(display, queue);
  if (request.activation != nullptr) {
    xdg_activation_token_v1* token = xdg_activation_v1_get_activation_token(request.activation);
    xdg_activation_token_v1_add_listener(token, &tokenListener, &request);
    if (seat != nullptr && serial != 0) xdg_activation_token_v1_set_serial(token, serial, seat);
    if (surface != nullptr) xdg_activation_token_v1_set_surface(token, surface);
    if (!appId.empty()) xdg_activation_token_v1_set_app_id(token, appId.c_str());
    xdg_activation_token_v1_commit(token);
    for (int trip = 0; trip < roundTrips && !request.done; ++trip) {
      if (wl_display_roundtrip_queue(display, queue) < 0) break;
    }
    xdg_activation_token_v1_destroy(token);
    xdg_activation_v1_destroy(request.activation);
  }
  wl_registry_destroy(registry);
  wl_proxy_wrapper_destroy(ownDisplay);
  wl_event_queue_destroy(queue);
  return request.token;
}

}  // namespace jolstrand
