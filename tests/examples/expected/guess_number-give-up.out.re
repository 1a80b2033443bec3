I am thinking of a number from 1 to 100\.
Your guess: (Too low\.
Your guess: Giving up\? It was ([5-9]\d|100)\.|Too high\.
Your guess: Giving up\? It was ([1-4]?\d)\.|Right! 50 in 1 tries\.)
