#pragma once
// The left button: one shot tests every living person under the crosshair.
void fireGun();
