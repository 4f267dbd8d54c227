// Resource ids of manual-launcher.
#pragma once

#define IDD_READER_NEEDED 101
