#include "TestApp.h"

CTestApp g_testApp;
