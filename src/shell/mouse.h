#pragma once
// The mouse in the overworld: the buttons' orders and selection.
struct Game;

// Right button orders, left button selects: the cell under the pointer, outside the minimap.
void mouse_orders(Game& g);
