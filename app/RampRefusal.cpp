#include "app/RampRefusal.h"

#include "gamma/GammaRamp.h"
#include "ui/TrayIcon.h"

#include <cstdio>

namespace {

// 1 when the shell took the balloon.
int ShowRefusal(AppState &state, const char *what) {
  char text[256];
  std::snprintf(text, sizeof text,
                "%sのガンマを画面が受け付けませんでした。"
                "メニューの「ガンマ範囲の制限を解除...」で受け付けられることがあります。",
                what);
  return state.trayIcon && state.trayIcon->ShowBalloon("クイロラ", text);
}

} // namespace

int ApplyAndReport(AppState &state, const GammaRamp &ramp, const char *what) {
  if (ramp.Apply()) {
    state.refusalShown = 0;
    return 1;
  }
  ReportRefusal(state, what);
  return 0;
}

void ReportRefusal(AppState &state, const char *what) {
  // A balloon the shell refused (no icon yet at sign-in, or none since
  // Explorer restarted) was not seen: the next refusal tries again.
  if (!state.refusalShown)
    state.refusalShown = ShowRefusal(state, what);
}
