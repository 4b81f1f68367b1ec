// The movie toolbox lands here.
