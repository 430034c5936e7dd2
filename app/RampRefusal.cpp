#include "app/RampRefusal.h"

#include "gamma/GammaRamp.h"
#include "ui/TrayIcon.h"

#include <cstdio>

namespace {

// 1 when the shell took the balloon.
int ShowBalloon(AppState &state, const char *text) {
  return state.trayIcon && state.trayIcon->ShowBalloon("クイロラ", text);
}

// 1 when monitors are listed and none of them can take a ramp: lifting the
// range limit cannot help then.
int NoMonitorTakesRamps() {
  int count = PlannedMonitorCount();
  for (int i = 0; i < count; ++i)
    if (PlannedMonitorState(i) != MonitorPlanState::kNoGammaSupport)
      return 0;
  return count > 0;
}

int ShowRefusal(AppState &state, const char *what) {
  char text[256];
  if (NoMonitorTakesRamps())
    std::snprintf(text, sizeof text,
                  "この画面はガンマランプに対応していないため、%sのガンマを変更できませんでした。",
                  what);
  else
    std::snprintf(text, sizeof text,
                  "%sのガンマを画面が受け付けませんでした。"
                  "メニューの「ガンマ範囲の制限を解除...」で受け付けられることがあります。",
                  what);
  return ShowBalloon(state, text);
}

// One balloon per run of each kind, as for a full refusal: `shown` is set
// once the shell took one and cleared by an apply without that kind.
// 1 when a balloon was shown now.
int ReportPartRefusal(AppState &state, const ApplyOutcome &outcome, const char *what) {
  if (!outcome.refused[0]) {
    state.partRefusalShown = 0;
    return 0;
  }
  if (state.partRefusalShown)
    return 0;
  char text[320];
  std::snprintf(text, sizeof text, "%sのガンマを次のモニターが受け付けませんでした: %s", what,
                outcome.refused);
  return state.partRefusalShown = ShowBalloon(state, text);
}

// A monitor that refused is told first; HDR waits for the next apply then.
void ReportSpared(AppState &state, const ApplyOutcome &outcome, int balloonShown) {
  if (!outcome.spared[0]) {
    state.hdrShown = 0;
    return;
  }
  if (state.hdrShown || balloonShown)
    return;
  char text[320];
  std::snprintf(text, sizeof text, "HDR表示中のため、次のモニターのガンマは変更しませんでした: %s",
                outcome.spared);
  state.hdrShown = ShowBalloon(state, text);
}

} // namespace

int ApplyAndReport(AppState &state, const GammaRamp &ramp, const char *what) {
  ApplyOutcome outcome;
  if (ramp.Apply(&outcome)) {
    state.refusalShown = 0;
    ReportSpared(state, outcome, ReportPartRefusal(state, outcome, what));
    return 1;
  }
  ReportRefusal(state, what);
  return 0;
}

void ApplyOwnRampsAndReport(AppState &state) {
  ApplyOutcome outcome;
  ApplyOwnRamps(&outcome);
  // Monitors in HDR are not planned for their own files: only refusals
  // are told here.
  if (outcome.monitorsMeant)
    ReportPartRefusal(state, outcome, "モニター専用のファイル");
}

void ReportRefusal(AppState &state, const char *what) {
  // A balloon the shell refused (no icon yet at sign-in, or none since
  // Explorer restarted) was not seen: the next refusal tries again.
  if (!state.refusalShown)
    state.refusalShown = ShowRefusal(state, what);
}
