// The mouse and keyboard state that the viewport's handlers receive, in the
// shape of VCL's TShiftState and TMouseButton, so the handlers do not depend
// on Qt and tests can call them with any combination.
#pragma once

#include <cstdint>

using TShiftState = std::uint32_t;
constexpr TShiftState ssShift = 1u << 0;
constexpr TShiftState ssAlt = 1u << 1;
constexpr TShiftState ssCtrl = 1u << 2;
constexpr TShiftState ssLeft = 1u << 3;
constexpr TShiftState ssRight = 1u << 4;
constexpr TShiftState ssMiddle = 1u << 5;

enum TMouseButton { mbLeft, mbRight, mbMiddle };
