#pragma once
// The walking people: movement, wounds, death animations, respawning.
void updateCrowd();
void updatePerson(int i);
void spawnPeople(int n);
