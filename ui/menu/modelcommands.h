#pragma once

// The main menu's commands that pick or start a model.
void SelectModelCommand();
void EditExistingModelCommand();
void CreateModelCommand();
void SetModelLocationPathCommand();
