// demo_fixture.cpp — the shared fixture of the demo's tests (see demo_fixture.h).
#include "demo_fixture.h"

#include <algorithm>
#include <cstdio>

void ResetDemoGlobals() {
  for (Entity* e :
       {&CAMERA, &LIGHT, &SKYSPHERE, &DARKSPHERE, &STARSPHERE, &SUNPIVOT, &SUNSPRITE, &SUNHOF,
        &SUNHOF2, &SUNHOF3, &MOONSPRITE, &MOONMASK, &MOONHOF, &MOONHOF2, &CLOUDS}) {
    *e = nullptr;
  }
  SKYSPHERETEX = DARKSPHERETEX = STARSPHERETEX = CLOUDSTEX = nullptr;
  MOUSEX = MOUSEY = MOUSEX2 = MOUSEY2 = CAMERAPITCH = CAMERAYAW = 0;
  SUNANGLE = 90.0;
  STARALPHA = 1.0;
  SUNALPHA = 0.0;
  STARBIT = SUNBIT = 0;
  for (auto& column : VERTEXBUFFER) std::fill(std::begin(column), std::end(column), 0);
}

void DemoTest::SetUp() {
  recorder::Reset();
  fakewindow::script() = fakewindow::Script{};
  ResetDemoGlobals();
  names_.clear();
}

void DemoTest::NameHandles(const std::map<std::uintptr_t, std::string>& extra) {
  const std::pair<const void*, const char*> globals[] = {
      {CAMERA, "CAMERA"},
      {LIGHT, "LIGHT"},
      {SKYSPHERE, "SKYSPHERE"},
      {DARKSPHERE, "DARKSPHERE"},
      {STARSPHERE, "STARSPHERE"},
      {SKYSPHERETEX, "SKYSPHERETEX"},
      {DARKSPHERETEX, "DARKSPHERETEX"},
      {STARSPHERETEX, "STARSPHERETEX"},
      {SUNPIVOT, "SUNPIVOT"},
      {SUNSPRITE, "SUNSPRITE"},
      {SUNHOF, "SUNHOF"},
      {SUNHOF2, "SUNHOF2"},
      {SUNHOF3, "SUNHOF3"},
      {MOONSPRITE, "MOONSPRITE"},
      {MOONMASK, "MOONMASK"},
      {MOONHOF, "MOONHOF"},
      {MOONHOF2, "MOONHOF2"},
      {CLOUDS, "CLOUDS"},
      {CLOUDSTEX, "CLOUDSTEX"},
  };
  for (auto [handle, name] : globals) {
    if (handle != nullptr) names_[recorder::Id(handle)] = name;
  }
  for (const auto& [id, name] : extra) names_[id] = name;
}

std::string DemoTest::Text(const recorder::Call& call) const {
  auto handleName = [this](std::uintptr_t id) -> std::string {
    if (id == 0) return "0";
    auto it = names_.find(id);
    if (it != names_.end()) return it->second;
    std::string unnamed = "#";
    unnamed += std::to_string(id);
    return unnamed;
  };
  std::string text = call.name + "(";
  for (std::size_t i = 0; i < call.args.size(); ++i) {
    if (i > 0) text += ", ";
    const recorder::Arg& arg = call.args[i];
    if (const auto* h = std::get_if<recorder::HandleArg>(&arg)) {
      text += handleName(h->id);
    } else if (const auto* d = std::get_if<double>(&arg)) {
      char number[32];
      std::snprintf(number, sizeof number, "%.9g", *d);
      text += number;
    } else {
      text += "\"" + std::get<std::string>(arg) + "\"";
    }
  }
  text += ")";
  if (call.result != 0) text += " -> " + handleName(call.result);
  return text;
}

std::vector<std::string> DemoTest::CallTexts(std::size_t from,
                                             const std::vector<std::string>& only) const {
  std::vector<std::string> texts;
  const auto& calls = recorder::Calls();
  for (std::size_t i = from; i < calls.size(); ++i) {
    if (!only.empty() && std::find(only.begin(), only.end(), calls[i].name) == only.end()) {
      continue;
    }
    texts.push_back(Text(calls[i]));
  }
  return texts;
}
