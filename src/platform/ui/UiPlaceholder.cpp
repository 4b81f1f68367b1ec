// The user-interface toolbox lands here.
