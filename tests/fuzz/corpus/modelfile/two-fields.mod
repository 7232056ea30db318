 2 
 First Name
City, "quoted"
 1 
Letter
 1 
/home/ann/Records.csv
 2 
