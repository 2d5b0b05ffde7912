// Precompiled for every engine, game and tool source: the standard headers
// most of them include. Only headers that never change belong here; each
// source still includes what it uses.
#pragma once

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>
