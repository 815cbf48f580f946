// How every card of every catalogue list reacts: its creation dresses the indicator and the
// favourite button, selection reveals its element 8, the indicator hands the card to item
// activation, the favourite button flips the flag in the catalogue.
#pragma once

#include "shell/SharedTypes.h"
#include "shell/toolkit/xcgui.h"

// The template element 8 shown on the selected card, 0 for none (reset when a list is rebuilt).
// The list builds a card's elements anew each time it scrolls back into view; the new element 8
// of the selected card takes this place, so one card at most ever shows the mark.
inline HELE RevealedElement = 0;

// Hides the mark and forgets the card it was on: search and favourites call this before they
// rebuild their lists.
void ForgetRevealedCard();

// Event 142 on a list view: a card's template has been built.
int OnCardCreated(HXCGUI list, int event, WPARAM wParam, LPARAM lParam, BOOL* handled);
// Event 146 on a list view: a card has been selected.
int OnCardSelected(HXCGUI list, int event, WPARAM wParam, LPARAM lParam, BOOL* handled);
// Event 11 on a card's element 10.
int OnIndicatorClicked(HXCGUI element, int event, WPARAM wParam, LPARAM lParam, BOOL* handled);
// Event 34 on a card's element 20.
int ToggleFavourite(HXCGUI button, int event, WPARAM wParam, LPARAM lParam, BOOL* handled);

// The text of a card's template element (a shape text), as program text; empty when absent.
AnsiText CardText(HELE list, int group, int item, int id);
