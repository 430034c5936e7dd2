#include "app/AppState.h"

static AppState appState;

AppState &GetAppState() { return appState; }
