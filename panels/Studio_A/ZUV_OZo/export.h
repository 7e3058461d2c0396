// ZUV_OZo's one export, load_vesk_client_script, as every panel declares it.
#pragma once

#include "framework/vesk_export.h"
