#pragma once
// The history search's controls, a field and a list that the front end makes
// beside the template's controls when the search first shows.

// Their ids lie above every id of the template.
inline constexpr int kIdSearchField = 1100;
inline constexpr int kIdSearchList = 1101;
