#pragma once
// Resource numbers of the filter sheet and its editing dialogs (plain
// #defines: windres reads this file too).
