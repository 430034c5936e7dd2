#include "app/AppliedRampNotice.h"

#include "app/AppMessages.h"
#include "app/MainWindow.h"

namespace {

const DWORD kRampBytes = GammaRamp::kEntryCount * sizeof(std::uint16_t);
// A resident instance answers within one of its pauses after an applied
// ramp; one that takes longer is busy, and the notice is not worth waiting
// for. It may still handle it afterwards.
const UINT kAnswerTimeoutMs = 500;

void SendNotice(HWND window, const GammaRamp &applied) {
  COPYDATASTRUCT notice = {};
  notice.dwData = kAppliedRampNotice;
  notice.cbData = kRampBytes;
  notice.lpData = const_cast<std::uint16_t *>(applied.Entries());
  DWORD_PTR result = 0;
  SendMessageTimeoutA(window, WM_COPYDATA, reinterpret_cast<WPARAM>(GetMainWindow()),
                      reinterpret_cast<LPARAM>(&notice), SMTO_ABORTIFHUNG | SMTO_BLOCK,
                      kAnswerTimeoutMs, &result);
}

} // namespace

void TellResidentOfAppliedRamp(const GammaRamp &applied) {
  HWND own = GetMainWindow();
  char className[64];
  // The class name may come from the program's resources: the own main
  // window has the one a resident instance uses.
  if (!own || !GetClassNameA(own, className, sizeof className))
    return;
  for (HWND window = FindWindowExA(nullptr, nullptr, className, nullptr); window;
       window = FindWindowExA(nullptr, window, className, nullptr)) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId != GetCurrentProcessId())
      SendNotice(window, applied);
  }
}

const std::uint16_t *AppliedRampInNotice(LPARAM lParam) {
  const COPYDATASTRUCT *notice = reinterpret_cast<const COPYDATASTRUCT *>(lParam);
  if (!notice || notice->dwData != kAppliedRampNotice || notice->cbData != kRampBytes ||
      !notice->lpData)
    return nullptr;
  return static_cast<const std::uint16_t *>(notice->lpData);
}
