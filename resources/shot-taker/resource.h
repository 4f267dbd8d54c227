// Resource ids of shot-taker.
#pragma once

#define IDD_SHOT_TAKER 133
#define IDC_SHOT_BUTTON 1
