#pragma once

// How a control follows its parent's client area when the parent resizes.
enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
